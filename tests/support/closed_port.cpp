#include "tests/support/closed_port.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <stdexcept>

namespace vorlabws::testing {

ClosedPort::ClosedPort() : socket_(::socket(AF_INET, SOCK_STREAM, 0)) {
  if (socket_ < 0) throw std::runtime_error("socket failed");
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t length = sizeof address;
  if (::bind(socket_, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
      ::getsockname(socket_, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
    ::close(socket_);
    throw std::runtime_error("cannot bind a loopback port");
  }
  port_ = ntohs(address.sin_port);
}

ClosedPort::~ClosedPort() { ::close(socket_); }

}  // namespace vorlabws::testing
