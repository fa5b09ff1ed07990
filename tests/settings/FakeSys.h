#pragma once

#include <string>
#include <utility>

#include "settings/CorvelinSys.h"

namespace testing_support {

// A configuration whose environment the test decides.
class FakeSys : public CorvelinSys {
public:
    FakeSys(std::string program, std::string appData, std::string user,
            zel::IFileSystem& fs = zel::IFileSystem::Default())
        : CorvelinSys(fs),
          program_(std::move(program)),
          appData_(std::move(appData)),
          user_(std::move(user)) {}

protected:
    std::string GetProgramFolder() const override { return program_; }
    std::string GetAppDataFolder() const override { return appData_; }
    std::string GetUserName() const override { return user_; }

private:
    std::string program_, appData_, user_;
};

}  // namespace testing_support
