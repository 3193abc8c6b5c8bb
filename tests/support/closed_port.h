// A port on loopback where nothing listens, for tests of refused connections. The object owns
// the bound socket; the port stays refused and taken for as long as the object lives.
#pragma once

namespace vorlabws::testing {

// Bound and never listening, so every connection to it is refused and no other program can take
// it while the object lives.
class ClosedPort {
 public:
  ClosedPort();
  ClosedPort(const ClosedPort&) = delete;
  ClosedPort& operator=(const ClosedPort&) = delete;
  ~ClosedPort();
  int port() const { return port_; }

 private:
  int socket_ = -1;
  int port_ = 0;
};

}  // namespace vorlabws::testing
