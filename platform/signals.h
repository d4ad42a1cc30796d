#pragma once
// Terminating signals (SIGTERM, SIGINT, SIGHUP) made into something an event loop can
// wait for: while a TerminationSignals object lives, each such signal writes one byte
// into a pipe whose read end is ReadDescriptor(). The program can then close its window
// as a user would (settings saved, working folder cleaned) instead of dying half-way.
//
// One object at a time; destroying it restores the handlers it replaced and closes the
// pipe. When the pipe cannot be made, nothing is installed and the signals keep their
// default action.
namespace tv {

class TerminationSignals {
  public:
    TerminationSignals();
    ~TerminationSignals();
    TerminationSignals(const TerminationSignals&) = delete;
    TerminationSignals& operator=(const TerminationSignals&) = delete;

    // -1 when nothing was installed.
    int ReadDescriptor() const { return readFd_; }
    // Empties the pipe; true when at least one signal had arrived.
    bool Consume();

  private:
    int readFd_ = -1;
    int writeFd_ = -1;
};

}  // namespace tv
