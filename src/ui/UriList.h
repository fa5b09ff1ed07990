#pragma once

#include <QByteArray>

#include <string>
#include <vector>

// text/uri-list as file managers send it. URLs are percent-decoded straight
// to file-name bytes, so names that are not valid UTF-8 arrive unchanged.

// The local paths of the file: URLs in a list, in order; other schemes, remote
// hosts and comment lines are left out. A trailing "/" is dropped (except for
// "/" itself).
std::vector<std::string> LocalPathsFromUriList(const QByteArray& list);
