#pragma once
// ScopedConnection: a signal connection with an owner. It is cut when its
// holder goes, or when another connection is put in its place, so that no
// destructor has to disconnect anything by hand and no slot outlives the
// object it calls into. Hold one as a member for each connection whose slot
// refers to the member's owner (or a std::vector of them).
//
// Move-only: a moved-from connection holds nothing.

#include <type_traits>
#include <utility>

#include <sigc++/connection.h>

namespace velkaro {

class ScopedConnection {
public:
  ScopedConnection() = default;
  // Takes over a connection, or what a signal's connect() returns;
  // implicit, so that a member can be given signal.connect(...) directly.
  template <class T>
    requires std::is_constructible_v<sigc::connection, T&&>
  ScopedConnection(T&& connection) : m_connection(std::forward<T>(connection))
  {
  }
  ~ScopedConnection() { m_connection.disconnect(); }

  ScopedConnection(ScopedConnection&& other) noexcept : m_connection(std::exchange(other.m_connection, {})) {}
  ScopedConnection& operator=(ScopedConnection&& other) noexcept
  {
    if (this != &other) {
      m_connection.disconnect();
      m_connection = std::exchange(other.m_connection, {});
    }
    return *this;
  }
  ScopedConnection(const ScopedConnection&) = delete;
  ScopedConnection& operator=(const ScopedConnection&) = delete;
  // Cuts the connection held, then takes connection over.
  template <class T>
    requires std::is_constructible_v<sigc::connection, T&&>
  ScopedConnection& operator=(T&& connection)
  {
    m_connection.disconnect();
    m_connection = sigc::connection(std::forward<T>(connection));
    return *this;
  }

  // Cuts the connection now.
  void disconnect() { m_connection.disconnect(); }
  // Forgets the connection without cutting it: for one that is ending by
  // itself (a one-shot source being dispatched).
  void release() { m_connection = sigc::connection(); }
  bool connected() const { return m_connection.connected(); }

private:
  sigc::connection m_connection;
};

} // namespace velkaro
