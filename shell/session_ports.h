#pragma once
// The ports a running viewer gives its package session: browsers are started with
// LaunchInBrowser, messages go to the message box (MsgBox, which the window layer
// shows in a real box). Tools are run by the window (it owns the event pump).
#include "render/system_ports.h"

namespace tv {

using BrowserLauncher = render::BrowserLauncher;
using MessageBoxSink = render::MsgBoxSink;

}  // namespace tv
