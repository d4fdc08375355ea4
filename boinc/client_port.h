#pragma once
// What a work unit needs from the volunteer's client while it runs: the client's requests
// (suspend, quit, abort), the permission to checkpoint, and where progress goes. The BOINC
// runtime implements it; tests drive a work unit through a scripted one.

namespace aequa::boinc {

struct ClientStatus {
  bool suspended = false;
  bool quit = false;   // end now and run again later from the last checkpoint
  bool abort = false;  // end now for good
};

class ClientPort {
 public:
  virtual ~ClientPort() = default;
  virtual ClientStatus Status() = 0;
  virtual bool TimeToCheckpoint() = 0;
  virtual void CheckpointCompleted() = 0;
  virtual void FractionDone(double fraction) = 0;
};

}  // namespace aequa::boinc
