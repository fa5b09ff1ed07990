#pragma once

#include <optional>
#include <string>
#include <vector>

// What the command line asked for. Texts are the argument bytes as given.
struct CliOptions {
    std::string sizeText = "DVD(4.7GB)";
    bool sizeGiven = false;  // -s was on the command line
    std::string fillRateText = "100%";
    std::optional<std::string> preset;
    std::vector<std::string> inputPatterns;
    std::vector<std::string> ignorePatterns;
    bool autoGroup = false;
    std::optional<std::string> exportPath;  // "-" for standard output
    std::optional<std::string> configDir;
    std::optional<std::string> graftListDir;  // --graft-lists
    bool printCommands = false;
    bool fitImage = false;                   // also when the profile's FIT_IMAGE is set
    bool udf = false;                        // the image estimate counts a UDF bridge
    std::optional<std::string> fromList;     // "-" for standard input
    bool listLines = false;                  // records end at LF instead of NUL
    std::optional<std::string> writeImages;  // --write-images DIR
    std::optional<std::string> writeDisc;    // --write-disc DEVICE
    std::vector<std::string> writeFolders;   // --write-folders DIR, once per folder, in order
    // How many of the three targets the command line names.
    int WriteTargets() const {
        return (writeImages ? 1 : 0) + (writeDisc ? 1 : 0) + (writeFolders.empty() ? 0 : 1);
    }
    std::optional<std::string> setFile;     // --set FILE: go on with a set
    std::optional<std::string> setName;     // --set-name NAME
    std::optional<std::string> recordSet;   // --record-set NAME: the plan into the catalog
    std::optional<std::string> verifyPath;  // --verify PATH
    bool noVerify = false;                  // --no-verify: write without reading back
    // --md5 / --no-md5: xorriso's own checksums too; unset follows the
    // profile's RECORD_MD5.
    std::optional<bool> md5;
    bool quiet = false;
    // The archive catalog.
    std::optional<std::string> catalogPath;  // --catalog: another catalog file
    bool skipArchived = false;
    std::optional<std::string> find;
    std::vector<std::string> catalogAdd;
    std::optional<std::string> catalogExport;  // "-" for standard output
    std::optional<std::string> catalogRemove;
    std::optional<std::string> catalogRename;
    std::optional<std::string> newName;
    bool catalogList = false;
    // Any option that works on the catalog alone, without paths to plan.
    bool CatalogOnly() const {
        return find || !catalogAdd.empty() || catalogExport || catalogRemove || catalogRename ||
               catalogList;
    }
    bool help = false;
    bool version = false;
    std::vector<std::string> paths;
};

// Parses argv; false with a message for the user when the words are off.
bool ParseCliOptions(int argc, char** argv, CliOptions& options, std::string& error);

// The text of --help.
std::string CliUsage();
