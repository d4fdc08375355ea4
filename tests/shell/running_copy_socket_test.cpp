// The running copy's socket under attack from a careless or hostile client of the same user:
// a client that sends one byte now and then, idle connections, and a command whose sender
// has given up. Each runs against `aequa serve` in a temporary data directory.
#include <gtest/gtest.h>
#include <signal.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

#include "platform/local_socket.h"
#include "shell/terminal/wire.h"
#include "support/process.h"
#include "support/temp_dir.h"

namespace aequa::test {
namespace {

class RunningCopySocket : public ::testing::Test {
 protected:
  void SetUp() override {
    setenv("XDG_CONFIG_HOME", (dir.path() + "/config").c_str(), 1);
    setenv("AEQUA_AUTOSTART", "xdg", 1);
    WriteFile(dir.file("aequo.ini"), "Priority=9\r\nWorkers=1\r\n");
    serve = std::make_unique<BackgroundAequa>(
        std::vector<std::string>{"--dir", dir.path(), "serve"});
    for (int i = 0; i < 600 && !Connectable(); ++i) usleep(50000);
    ASSERT_TRUE(Connectable());
  }
  void TearDown() override {
    StopTrickling();
    if (serve) {
      serve->Signal(SIGTERM);
      serve->WaitForExit();
    }
  }
  bool Connectable() {
    int fd = Connect();
    platform::CloseSocket(fd);
    return fd >= 0;
  }
  int Connect() { return platform::ConnectLocal(dir.file("aequa.sock")); }
  ProcessResult Aequa(std::vector<std::string> args) {
    args.insert(args.begin(), {"--dir", dir.path()});
    return RunAequa(args);
  }
  // A client that announces a command of 1000 bytes and sends it one byte a second, until
  // the test ends.
  void StartTrickling() {
    trickling = true;
    trickler = std::thread([this] {
      int fd = Connect();
      std::string frame = term::EncodeMessage(term::Message::Command, std::string(1000, 'x'));
      for (size_t i = 0; trickling && i < frame.size(); ++i) {
        if (!platform::SendAll(fd, &frame[i], 1)) break;
        for (int t = 0; trickling && t < 10; ++t) usleep(100000);
      }
      platform::CloseSocket(fd);
    });
  }
  void StopTrickling() {
    trickling = false;
    if (trickler.joinable()) trickler.join();
  }

  TempDir dir{false};
  std::unique_ptr<BackgroundAequa> serve;
  std::atomic<bool> trickling{false};
  std::thread trickler;
};

TEST_F(RunningCopySocket, AClientSendingAByteNowAndThenHoldsUpNeitherCommandsNorSigterm) {
  StartTrickling();
  sleep(1);
  // Each of these would wait for the trickling client to finish (it never does).
  ProcessResult status = Aequa({"status"});
  EXPECT_EQ(status.status, 0) << status.err;
  EXPECT_EQ(status.out, "You have no work queued up.\n");
  ProcessResult stop = Aequa({"stop"});
  EXPECT_EQ(stop.status, 0) << stop.err;
  serve->Signal(SIGTERM);
  ASSERT_TRUE(serve->WaitForExit()) << "SIGTERM was not answered";
  EXPECT_EQ(serve->Wait().status, 0);
}

// Connections that say nothing are closed when their deadline passes, but a command that
// comes after them is served at once: they are still open when its answer is there.
TEST_F(RunningCopySocket, IdleConnectionsDelayNoCommand) {
  std::vector<int> idle;
  for (int i = 0; i < 8; ++i) idle.push_back(Connect());
  ProcessResult queued = Aequa({"penta", "5", "1", "10", "0", "--queue-only"});
  EXPECT_EQ(queued.status, 0) << queued.err;
  EXPECT_EQ(ReadFile(dir.file("worksum.ini")), "PENTA=5,1,10,0\r\n");
  for (int fd : idle) {
    char byte;
    EXPECT_EQ(platform::ReceiveSome(fd, &byte, 1), platform::kWouldBlock) << "closed before";
    platform::CloseSocket(fd);
  }
}

// A command that arrives whole, from a sender that has closed the connection before the copy
// got to it, is not carried out: its sender no longer waits for the answer.
TEST_F(RunningCopySocket, ACommandWhoseSenderGaveUpIsNotCarriedOut) {
  serve->Signal(SIGSTOP);
  int fd = Connect();
  ASSERT_GE(fd, 0);
  std::string payload;
  for (const char* a : {"penta", "5", "1", "10", "0", "--queue-only"}) {
    payload += a + std::string(1, '\0');
  }
  ASSERT_TRUE(term::SendMessage(fd, term::Message::Command, payload));
  platform::CloseSocket(fd);
  serve->Signal(SIGCONT);
  ProcessResult status = Aequa({"status"});
  EXPECT_EQ(status.status, 0) << status.err;
  EXPECT_EQ(status.out, "You have no work queued up.\n");
  EXPECT_EQ(ReadFile(dir.file("worksum.ini")).find("PENTA"), std::string::npos);
}

}  // namespace
}  // namespace aequa::test
