// A relay for the test of what the worker hands down to it. Started as the relay is
// (ADDRESS DATA_FOLDER REQUEST_FILE), it writes the numbers of its open descriptors, one a line in
// ascending order, to DATA_FOLDER/../descriptors.txt; leaves behind a child that sleeps for a
// minute holding every descriptor it was given but the standard streams, its pid in
// DATA_FOLDER/../descendant.pid; and exits 1 without a reply.
#include <dirent.h>
#include <fcntl.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <set>
#include <string>

namespace {

std::set<int> OpenDescriptors() {
  std::set<int> open;
  DIR* listing = ::opendir("/proc/self/fd");
  if (listing == nullptr) std::exit(3);
  while (const dirent* entry = ::readdir(listing)) {
    const std::string name = entry->d_name;
    if (name != "." && name != ".." && std::stoi(name) != ::dirfd(listing)) {
      open.insert(std::stoi(name));
    }
  }
  ::closedir(listing);
  return open;
}

// Gives up the standard streams, which the worker's caller may be reading to their end.
[[noreturn]] void SleepAsDescendant() {
  const int nothing = ::open("/dev/null", O_RDWR);
  for (int stream = 0; stream < 3; ++stream) ::dup2(nothing, stream);
  ::sleep(60);
  ::_exit(0);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 4) return 2;
  const std::string beside_data = std::string(argv[2]) + "/../";
  const std::set<int> given = OpenDescriptors();
  std::ofstream descriptors(beside_data + "descriptors.txt");
  for (const int descriptor : given) descriptors << descriptor << "\n";
  descriptors.close();
  const pid_t descendant = ::fork();
  if (descendant == 0) SleepAsDescendant();
  std::ofstream(beside_data + "descendant.pid") << descendant << "\n";
  return 1;
}
