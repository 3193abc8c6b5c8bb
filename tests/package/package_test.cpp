// The Debian package as an operator meets it: what it holds, then installed into this system with
// apt, label jobs run from /usr/bin/VorlabWS by an ordinary user of the group vorlabws against the
// stand-in couriers, an upgrade that keeps an edited template, removal and purge. Installing runs
// only as root and leaves the machine as it found it.
#include <grp.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "platform/code_page.h"
#include "platform/files.h"
#include "tests/brt/brt_job_support.h"
#include "tests/dhl/dhl_test_support.h"
#include "tests/package/package_support.h"
#include "tools/brt-standin/standin_process.h"

namespace vorlabws::testing {
namespace {

namespace fs = std::filesystem;

std::string SourceFile(const std::string& relative) {
  return ReadFileBytes(Utf8ToUtf16(SourceFolder() + relative));
}

// The package's listing as dpkg-deb shows it, without sizes and dates, sorted.
std::vector<std::string> PackageListing(const std::string& package) {
  const ProcessResult contents = RunCommand({"/usr/bin/dpkg-deb", "--contents", package});
  EXPECT_EQ(contents.exit_code, 0) << contents.standard_error;
  const std::regex entry(R"((\S+) (\S+) +\d+ \S+ \S+ (.*))");
  std::vector<std::string> lines;
  std::istringstream text(contents.standard_output);
  for (std::string line; std::getline(text, line);) {
    std::smatch parts;
    if (!std::regex_match(line, parts, entry)) {
      ADD_FAILURE() << "unexpected line: " << line;
      continue;
    }
    lines.push_back(parts[1].str() + " " + parts[2].str() + " " + parts[3].str());
  }
  std::sort(lines.begin(), lines.end());
  return lines;
}

std::string Field(const std::string& package, const std::string& name) {
  const ProcessResult field = RunCommand({"/usr/bin/dpkg-deb", "--field", package, name});
  EXPECT_EQ(field.exit_code, 0) << field.standard_error;
  return field.standard_output;
}

TEST(PackageContentsTest, FilesModesOwnersConffilesDependsAndLintian) {
  const TempFolder folder;
  const std::string package = BuildPackage(folder.path());
  EXPECT_EQ(fs::path(package).filename(), "vorlabws_" VORLABWS_VERSION "_amd64.deb");
  EXPECT_EQ(Field(package, "Version"), VORLABWS_VERSION "\n");

  std::vector<std::string> expected = {
      "drwxr-xr-x root/root ./etc/",
      "drwxr-xr-x root/root ./etc/vorlabws/",
      "-rw-r--r-- root/root ./etc/vorlabws/dhl_template.txt",
      "drwxr-xr-x root/root ./etc/vorlabws/report/",
      "-rw-r--r-- root/root ./etc/vorlabws/report/BRT.prn",
      "-rw-r--r-- root/root ./etc/vorlabws/report/DHL.prn",
      "drwxr-xr-x root/root ./usr/",
      "drwxr-xr-x root/root ./usr/bin/",
      "lrwxrwxrwx root/root ./usr/bin/VorlabWS -> ../lib/vorlabws/VorlabWS",
      "drwxr-xr-x root/root ./usr/lib/",
      "drwxr-xr-x root/root ./usr/lib/vorlabws/",
      "-rwxr-xr-x root/root ./usr/lib/vorlabws/Relayer.exe",
      "-rwxr-xr-x root/root ./usr/lib/vorlabws/VorlabWS",
      "lrwxrwxrwx root/root ./usr/lib/vorlabws/data -> /var/lib/vorlabws/data",
      "lrwxrwxrwx root/root ./usr/lib/vorlabws/errore.txt -> /var/lib/vorlabws/errore.txt",
      "lrwxrwxrwx root/root ./usr/lib/vorlabws/report -> /etc/vorlabws/report",
      "-rw-r--r-- root/root ./usr/lib/vorlabws/vorlabws-window.so",
      "drwxr-xr-x root/root ./usr/share/",
      "drwxr-xr-x root/root ./usr/share/doc/",
      "drwxr-xr-x root/root ./usr/share/doc/vorlabws/",
      "-rw-r--r-- root/root ./usr/share/doc/vorlabws/changelog.gz",
      "-rw-r--r-- root/root ./usr/share/doc/vorlabws/copyright",
      "drwxr-xr-x root/root ./usr/share/man/",
      "drwxr-xr-x root/root ./usr/share/man/man1/",
      "-rw-r--r-- root/root ./usr/share/man/man1/VorlabWS.1.gz",
      "drwxr-xr-x root/root ./var/",
      "drwxr-xr-x root/root ./var/lib/",
      "drwxr-xr-x root/root ./var/lib/vorlabws/",
      "drwxr-xr-x root/root ./var/lib/vorlabws/data/",
      "lrwxrwxrwx root/root ./var/lib/vorlabws/data/dhl_template.txt -> "
      "/etc/vorlabws/dhl_template.txt",
      "drwxr-xr-x root/root ./var/lib/vorlabws/data/out/",
  };
  expected.push_back("-rwxr-xr-x root/root ./usr/lib/vorlabws/vorlabws-check");
  std::sort(expected.begin(), expected.end());
  EXPECT_EQ(PackageListing(package), expected);

  // The templates are the repository's, and dpkg treats them as the operator's configuration.
  const std::string unpacked = folder.path() + "unpacked/";
  ASSERT_EQ(RunCommand({"/usr/bin/dpkg-deb", "--raw-extract", package, unpacked}).exit_code, 0);
  EXPECT_EQ(ReadFileBytes(Utf8ToUtf16(unpacked + "etc/vorlabws/report/BRT.prn")),
            SourceFile("report/BRT.prn"));
  EXPECT_EQ(ReadFileBytes(Utf8ToUtf16(unpacked + "etc/vorlabws/report/DHL.prn")),
            SourceFile("report/DHL.prn"));
  EXPECT_EQ(ReadFileBytes(Utf8ToUtf16(unpacked + "etc/vorlabws/dhl_template.txt")),
            SourceFile("data/dhl_template.txt"));
  EXPECT_EQ(ReadFileBytes(Utf8ToUtf16(unpacked + "DEBIAN/conffiles")),
            "/etc/vorlabws/dhl_template.txt\n"
            "/etc/vorlabws/report/BRT.prn\n"
            "/etc/vorlabws/report/DHL.prn\n");

  // What the binaries link, as dpkg-shlibdeps found it, and what they need beyond that.
  std::set<std::string> depends;
  const std::string field = Field(package, "Depends");
  const std::regex name(R"((?:^|, )([a-z0-9.+-]+))");
  for (auto found = std::sregex_iterator(field.begin(), field.end(), name);
       found != std::sregex_iterator(); ++found) {
    depends.insert((*found)[1]);
  }
  EXPECT_EQ(depends, (std::set<std::string>{"adduser", "ca-certificates", "fonts-liberation",
                                            "libc6", "libcurl4", "libfbclient2", "libfltk1.3",
                                            "libgcc-s1", "libstdc++6", "libx11-6", "libxml2"}))
      << field;

  const ProcessResult lintian = RunCommand({"/usr/bin/lintian", package});
  std::string findings = lintian.standard_output + lintian.standard_error;
  findings = std::regex_replace(findings, std::regex("running with root privileges.*\n"), "");
  EXPECT_EQ(findings, "");
  EXPECT_EQ(lintian.exit_code, 0);
}

// The program's places on the system, as Listing shows them.
const std::vector<std::string> kPlaces = {"/etc/vorlabws", "/usr/bin/VorlabWS", "/usr/lib/vorlabws",
                                          "/var/lib/vorlabws"};

// Every column of a label job's header and row but their keys, as the worker reads them.
std::map<std::string, std::u16string> JobColumns(const JobDatabase& database, int testata) {
  std::map<std::string, std::u16string> columns;
  for (const auto& [table, where] : {std::pair{"VORLABT", "ID=" + std::to_string(testata)},
                                     std::pair{"VORLABR", "TESTATA=" + std::to_string(testata)}}) {
    const std::vector<std::u16string> names =
        database.Column(std::string("SELECT TRIM(RDB$FIELD_NAME) AS NAME FROM RDB$RELATION_FIELDS "
                                    "WHERE RDB$RELATION_NAME='") +
                            table + "'",
                        "NAME");
    for (const std::u16string& name : names) {
      const std::string column = Utf16ToUtf8(name);
      if (column == "ID" || column == "TESTATA") continue;
      columns[std::string(table) + "." + column] = database.Value(
          std::string("SELECT ") + column + " FROM " + table + " WHERE " + where, column);
    }
  }
  return columns;
}

class PackageLifecycleTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (::geteuid() == 0) SystemInstallation::UndoInterruptedRun();
    if (const std::string reason = ReasonToLeaveTheSystemAlone(); !reason.empty()) {
      GTEST_SKIP() << reason;
    }
    ::umask(022);  // the modes of the files jobs write, as a login shell gives them
    twin_.InstallRealRelay();
    twin_.WriteFile("report/BRT.prn", SourceFile("report/BRT.prn"));
  }

  std::vector<std::pair<std::string, std::string>> Couriers() const {
    return {{"VORLABWS_BRT_WSDL", Utf16ToUtf8(brt_.WsdlUrl())},
            {"VORLABWS_DHL_URL", dhl_.address()}};
  }
  // The installed command, as the user of the group runs it.
  WorkerRun RunInstalled(const std::string& user, int testata) const {
    StartOptions options;
    options.environment = Couriers();
    return RunWorkerAt("/usr/bin/setpriv",
                       {"--reuid=" + user, "--regid=" + user, "--init-groups", "--",
                        "/usr/bin/VorlabWS", database_.connection(), std::to_string(testata), "2"},
                       options);
  }
  // The same job run by the build's own worker, for what the installed one must do alike.
  WorkerRun RunTwin(int testata) const {
    StartOptions options;
    options.environment = Couriers();
    return twin_.Run({database_.connection(), std::to_string(testata), "2"}, options);
  }
  void Apt(const std::vector<std::string>& arguments) const {
    std::vector<std::string> command = {"/usr/bin/apt-get", "-y", "-q"};
    command.insert(command.end(), arguments.begin(), arguments.end());
    const ProcessResult result = RunCommand(command);
    ASSERT_EQ(result.exit_code, 0) << result.standard_output << result.standard_error;
  }

  TempFolder folder_;
  JobDatabase database_{Engine::kServer, folder_.path() + "archivio.fdb"};
  standin::StandInService brt_;
  DhlStandIn dhl_;
  ProgramFolderCopy twin_{folder_.path() + "twin/"};
};

TEST_F(PackageLifecycleTest, InstallJobsUpgradeKeepingAnEditedTemplateRemoveAndPurge) {
  const std::string first = BuildPackage(folder_.path() + "first/");
  const std::string higher_version = VORLABWS_VERSION "+1";
  const std::string higher = BuildPackage(folder_.path() + "higher/", higher_version);
  for (const int testata : {15, 25}) AddBrtJob(database_, testata, 2);
  for (const int testata : {16, 26, 17}) AddDhlJob(database_, testata, 2);

  SystemInstallation installation;
  Apt({"install", first});
  installation.AddUser();
  const std::string& user = installation.user();
  std::vector<std::string> installed = {
      "/etc/vorlabws d 0755 root:root",
      "/etc/vorlabws/dhl_template.txt f 0644 root:root",
      "/etc/vorlabws/report d 0755 root:root",
      "/etc/vorlabws/report/BRT.prn f 0644 root:root",
      "/etc/vorlabws/report/DHL.prn f 0644 root:root",
      "/usr/bin/VorlabWS l -> ../lib/vorlabws/VorlabWS",
      "/usr/lib/vorlabws d 0755 root:root",
      "/usr/lib/vorlabws/Relayer.exe f 0755 root:root",
      "/usr/lib/vorlabws/VorlabWS f 0755 root:root",
      "/usr/lib/vorlabws/data l -> /var/lib/vorlabws/data",
      "/usr/lib/vorlabws/errore.txt l -> /var/lib/vorlabws/errore.txt",
      "/usr/lib/vorlabws/report l -> /etc/vorlabws/report",
      "/usr/lib/vorlabws/vorlabws-window.so f 0644 root:root",
      "/var/lib/vorlabws d 0755 root:root",
      "/var/lib/vorlabws/data d 2775 root:vorlabws",
      "/var/lib/vorlabws/data/dhl_template.txt l -> /etc/vorlabws/dhl_template.txt",
      "/var/lib/vorlabws/data/out d 2775 root:vorlabws",
      "/var/lib/vorlabws/errore.txt f 0664 root:vorlabws",
  };
  installed.push_back("/usr/lib/vorlabws/vorlabws-check f 0755 root:root");
  std::sort(installed.begin(), installed.end());
  EXPECT_EQ(Listing(kPlaces), installed);
  // A DHL job's request and reply: the user's, the group's by the folders' setgid.
  const auto add_request_and_reply = [&](int testata) {
    for (const char* folder : {"data/", "data/out/"}) {
      installed.push_back("/var/lib/vorlabws/" + std::string(folder) + "dhl_" +
                          std::to_string(testata) + "_2.txt f 0644 " + user + ":vorlabws");
    }
    std::sort(installed.begin(), installed.end());
  };
  const group* vorlabws = ::getgrnam("vorlabws");
  ASSERT_NE(vorlabws, nullptr);
  EXPECT_LT(vorlabws->gr_gid, 1000u);  // a system group

  {
    SCOPED_TRACE("a BRT and a DHL label job, run by the user of the group");
    EXPECT_EQ(RunTwin(25).exit_code, 0);
    EXPECT_EQ(RunTwin(26).exit_code, 0);
    for (const auto& [job, twin] : {std::pair{15, 25}, std::pair{16, 26}}) {
      const WorkerRun run = RunInstalled(user, job);
      EXPECT_EQ(run.exit_code, 0) << run.standard_output << run.standard_error;
      EXPECT_EQ(run.standard_output + run.standard_error, "");
      EXPECT_EQ(database_.Value("SELECT ESITO FROM VORLABR WHERE TESTATA=" + std::to_string(job),
                                "ESITO"),
                u"000 - Completato");
      EXPECT_EQ(JobColumns(database_, job), JobColumns(database_, twin));
    }
    add_request_and_reply(16);
    EXPECT_EQ(Listing(kPlaces), installed);
  }

  const std::string edit = "^FX edited on site\n";
  {
    SCOPED_TRACE("an upgrade keeps the edited template, the group's places and their files");
    WriteFileBytes(u"/etc/vorlabws/report/BRT.prn", SourceFile("report/BRT.prn") + edit);
    Apt({"install", higher});
    EXPECT_EQ(RunCommand({"/usr/bin/dpkg-query", "--show", "--showformat=${Version}", "vorlabws"})
                  .standard_output,
              higher_version);
    EXPECT_EQ(ReadFileBytes(u"/etc/vorlabws/report/BRT.prn"), SourceFile("report/BRT.prn") + edit);
    EXPECT_EQ(ReadFileBytes(u"/etc/vorlabws/report/DHL.prn"), SourceFile("report/DHL.prn"));
    EXPECT_EQ(Listing(kPlaces), installed);

    const WorkerRun run = RunInstalled(user, 15);
    EXPECT_EQ(run.exit_code, 0) << run.standard_output << run.standard_error;
    EXPECT_EQ(
        database_.Value("SELECT REPORT_CUSTOM FROM VORLABR WHERE TESTATA=15", "REPORT_CUSTOM"),
        database_.Value("SELECT REPORT_CUSTOM FROM VORLABR WHERE TESTATA=25", "REPORT_CUSTOM") +
            u"^FX edited on site\r\n");
  }
  {
    SCOPED_TRACE("a failed update lands in errore.txt through the program folder's link");
    database_.Execute("ALTER TABLE VORLABT DROP MITT_FILIALE");
    database_.Execute("ALTER TABLE VORLABT ADD MITT_FILIALE VARCHAR(2)");
    const WorkerRun run = RunInstalled(user, 17);
    EXPECT_EQ(run.exit_code, 3) << run.standard_output << run.standard_error;
    EXPECT_EQ(ReadFileBytes(u"/var/lib/vorlabws/errore.txt"), DefaultHeaderUpdate(17));
    add_request_and_reply(17);
    EXPECT_EQ(Listing(kPlaces), installed);
  }
  {
    SCOPED_TRACE("removal takes the program and leaves the templates and the jobs' files");
    Apt({"remove", "vorlabws"});
    std::vector<std::string> kept;
    for (const std::string& line : installed) {
      if (!line.starts_with("/usr/") && line.find(" l -> ") == std::string::npos) {
        kept.push_back(line);
      }
    }
    EXPECT_EQ(Listing(kPlaces), kept);
    EXPECT_NE(::getgrnam("vorlabws"), nullptr);
  }
  {
    SCOPED_TRACE("purge takes everything the package made, the group included");
    installation.RemoveUser();
    Apt({"purge", "vorlabws"});
    EXPECT_EQ(Listing(kPlaces), std::vector<std::string>());
    EXPECT_EQ(::getgrnam("vorlabws"), nullptr);
    const ProcessResult overrides = RunCommand({"/usr/bin/dpkg-statoverride", "--list"});
    EXPECT_EQ(overrides.standard_output.find("vorlabws"), std::string::npos)
        << overrides.standard_output;
    EXPECT_NE(RunCommand({"/usr/bin/dpkg-query", "--status", "vorlabws"}).exit_code, 0);
  }
}

}  // namespace
}  // namespace vorlabws::testing
