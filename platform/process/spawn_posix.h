#pragma once
// What both ways of starting a program share: owners for posix_spawn's file actions
// and attributes, the child's signal state, and reaping children that are not waited
// for (a detached browser, a killed tool still stuck in the kernel).
#include <spawn.h>
#include <sys/types.h>

namespace tv::spawn {

class FileActions {
  public:
    FileActions() { ok_ = posix_spawn_file_actions_init(&actions_) == 0; }
    ~FileActions() {
        if (ok_) {
            posix_spawn_file_actions_destroy(&actions_);
        }
    }
    FileActions(const FileActions&) = delete;
    FileActions& operator=(const FileActions&) = delete;
    bool ok() const { return ok_; }
    posix_spawn_file_actions_t* get() { return &actions_; }

  private:
    posix_spawn_file_actions_t actions_{};
    bool ok_ = false;
};

class Attributes {
  public:
    Attributes() { ok_ = posix_spawnattr_init(&attr_) == 0; }
    ~Attributes() {
        if (ok_) {
            posix_spawnattr_destroy(&attr_);
        }
    }
    Attributes(const Attributes&) = delete;
    Attributes& operator=(const Attributes&) = delete;
    bool ok() const { return ok_; }
    posix_spawnattr_t* get() { return &attr_; }

  private:
    posix_spawnattr_t attr_{};
    bool ok_ = false;
};

// The child starts with no signal blocked and every signal at its default (the viewer
// blocks and catches some), plus extraFlags (POSIX_SPAWN_SETSID for a detached one).
// 0, or the error number.
int ResetSignals(Attributes& attr, short extraFlags = 0);

// Reaps pid on a thread of its own once it ends. When no thread can be made, the pid
// is kept for SweepUnreaped.
void ReapInBackground(pid_t pid);

// Reaps the kept children that have ended; returns how many are still running.
int SweepUnreaped();

}  // namespace tv::spawn
