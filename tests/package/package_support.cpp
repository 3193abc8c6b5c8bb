#include "tests/package/package_support.h"

#include <grp.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <regex>
#include <stdexcept>

#include "platform/code_page.h"
#include "platform/files.h"

namespace vorlabws::testing {
namespace {

namespace fs = std::filesystem;

// Holds the name of the user a run added, from before it installs until it has undone everything.
constexpr char kRecord[] = VORLABWS_PACKAGE_TEST_RECORD;

std::string Text(const ProcessResult& result) {
  return result.standard_output + result.standard_error;
}

// The package's state as dpkg keeps it ("installed", "config-files"); empty when dpkg knows none.
std::string PackageStatus() {
  const ProcessResult result =
      RunCommand({"/usr/bin/dpkg-query", "--show", "--showformat=${db:Status-Status}", "vorlabws"});
  return result.exit_code == 0 && result.standard_output != "not-installed" ? result.standard_output
                                                                            : "";
}

void RunOrRaise(const std::vector<std::string>& command) {
  const ProcessResult result = RunCommand(command);
  if (result.exit_code != 0) {
    throw std::runtime_error(command.front() + " failed (" + std::to_string(result.exit_code) +
                             "): " + Text(result));
  }
}

// Puts the machine back as the run found it: no package (purged), no user of the run's, no group.
void Undo(const std::string& user) {
  if (!PackageStatus().empty()) RunOrRaise({"/usr/bin/dpkg", "--purge", "vorlabws"});
  if (!user.empty() && ::getpwnam(user.c_str()) != nullptr) {
    RunOrRaise({"/usr/sbin/userdel", user});
  }
  if (::getgrnam("vorlabws") != nullptr) RunOrRaise({"/usr/sbin/groupdel", "vorlabws"});
  fs::remove(kRecord);
}

std::string Line(const fs::path& path) {
  struct stat status {};
  if (::lstat(path.c_str(), &status) != 0) throw std::runtime_error("cannot stat " + path.string());
  if (S_ISLNK(status.st_mode)) return path.string() + " l -> " + fs::read_symlink(path).string();
  const passwd* owner = ::getpwuid(status.st_uid);
  const group* group = ::getgrgid(status.st_gid);
  char mode[8];
  std::snprintf(mode, sizeof mode, "%04o", status.st_mode & 07777);
  return path.string() + (S_ISDIR(status.st_mode) ? " d " : " f ") + mode + " " +
         (owner ? owner->pw_name : std::to_string(status.st_uid)) + ":" +
         (group ? group->gr_name : std::to_string(status.st_gid));
}

}  // namespace

ProcessResult RunCommand(const std::vector<std::string>& command) {
  StartOptions options;
  options.capture_output = true;
  options.new_session = true;
  options.environment = {{"DEBIAN_FRONTEND", "noninteractive"}};
  options.removed_environment = {"DISPLAY", "WAYLAND_DISPLAY"};
  std::vector<std::u16string> arguments;
  for (size_t i = 1; i < command.size(); ++i) arguments.push_back(Utf8ToUtf16(command[i]));
  return RunProcess(Utf8ToUtf16(command.front()), arguments, options);
}

std::string BuildPackage(const std::string& folder, const std::string& version) {
  std::vector<std::string> command = {VORLABWS_CPACK, "--config",
                                      VORLABWS_BUILD_DIR "/CPackConfig.cmake", "-B", folder};
  if (!version.empty()) command.insert(command.end(), {"-R", version});
  const ProcessResult result = RunCommand(command);
  std::smatch built;
  const std::regex generated("CPack: - package: (.*) generated\\.");
  if (result.exit_code != 0 || !std::regex_search(result.standard_output, built, generated)) {
    throw std::runtime_error("cpack failed: " + Text(result));
  }
  return built[1];
}

std::vector<std::string> Listing(const std::vector<std::string>& paths) {
  std::vector<std::string> lines;
  for (const std::string& path : paths) {
    if (!fs::exists(fs::symlink_status(path))) continue;
    lines.push_back(Line(path));
    if (!fs::is_directory(fs::symlink_status(path))) continue;
    for (const fs::directory_entry& entry : fs::recursive_directory_iterator(path)) {
      lines.push_back(Line(entry.path()));
    }
  }
  std::sort(lines.begin(), lines.end());
  return lines;
}

std::string ReasonToLeaveTheSystemAlone() {
  if (::geteuid() != 0) {
    return "The package test installs vorlabws into this system and runs only as root (this run "
           "has uid " +
           std::to_string(::geteuid()) + ")";
  }
  if (const std::string status = PackageStatus(); !status.empty()) {
    return "vorlabws is on this machine (" + status +
           "): the package test leaves an installation it did not make alone";
  }
  if (::getgrnam("vorlabws") != nullptr) {
    return "A group vorlabws exists on this machine: the package test leaves it alone";
  }
  return "";
}

SystemInstallation::SystemInstallation() : user_("vorlabws-op" + std::to_string(::getpid())) {
  WriteFileBytes(Utf8ToUtf16(kRecord), user_);
}

SystemInstallation::~SystemInstallation() {
  try {
    Undo(user_);
  } catch (const std::exception& failure) {
    std::fprintf(stderr, "The package test could not undo its installation: %s\n", failure.what());
  }
}

void SystemInstallation::AddUser() {
  RunOrRaise({"/usr/sbin/useradd", "--no-create-home", "--user-group", "--shell",
              "/usr/sbin/nologin", "--groups", "vorlabws", user_});
}

void SystemInstallation::RemoveUser() { RunOrRaise({"/usr/sbin/userdel", user_}); }

bool SystemInstallation::UndoInterruptedRun() {
  if (!fs::exists(kRecord)) return false;
  Undo(ReadFileBytes(Utf8ToUtf16(kRecord)));
  return true;
}

}  // namespace vorlabws::testing
