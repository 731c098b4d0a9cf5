// Socket readiness through Qt's event loop, on local socket pairs (no network traffic).
#include <gtest/gtest.h>
#include <sys/socket.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QElapsedTimer>

#include "platform/qt/qt_readiness_watcher.h"

namespace ardvix::platform::qt {
namespace {

struct SocketPair {
  int reader = -1, writer = -1;
  SocketPair() {
    int fds[2];
    if (socketpair(AF_UNIX, SOCK_DGRAM | SOCK_NONBLOCK, 0, fds) == 0) {
      reader = fds[0];
      writer = fds[1];
    }
  }
  ~SocketPair() {
    if (reader >= 0) close(reader);
    if (writer >= 0) close(writer);
  }
  void Write(int datagrams) const {
    for (int i = 0; i < datagrams; ++i) ASSERT_EQ(send(writer, "x", 1, 0), 1);
  }
};

void PumpFor(int ms) {
  QElapsedTimer clock;
  clock.start();
  while (clock.elapsed() < ms) QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
}

TEST(ReadinessWatcher, CallsBackWhileADatagramWaits) {
  SocketPair pair;
  ASSERT_GE(pair.reader, 0);
  QtReadinessWatcher watcher;
  int calls = 0;
  watcher.Watch(pair.reader, [&] {
    char byte;
    if (recv(pair.reader, &byte, 1, 0) == 1) ++calls;
  });
  pair.Write(3);
  PumpFor(200);
  EXPECT_EQ(calls, 3);
}

TEST(ReadinessWatcher, ClosingTheSocketFromItsOwnCallbackIsSafe) {
  SocketPair pair;
  ASSERT_GE(pair.reader, 0);
  QtReadinessWatcher watcher;
  int calls = 0;
  ReadinessWatcher::WatchId id = -1;
  id = watcher.Watch(pair.reader, [&] {
    ++calls;
    watcher.Unwatch(id);
    close(pair.reader);  // unread datagrams go with it
    pair.reader = -1;
  });
  pair.Write(2);
  PumpFor(200);
  EXPECT_EQ(calls, 1);
  // The descriptor number may be reused by a new socket that is not watched.
  SocketPair reused;
  reused.Write(1);
  PumpFor(100);
  EXPECT_EQ(calls, 1);
}

TEST(ReadinessWatcher, RefusesANegativeDescriptor) {
  QtReadinessWatcher watcher;
  EXPECT_EQ(watcher.Watch(-1, [] {}), -1);
  watcher.Unwatch(-1);
}

}  // namespace
}  // namespace ardvix::platform::qt
