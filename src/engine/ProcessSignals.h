#pragma once

// What the whole process does about signals, beside watching them (SignalWatcher).
namespace clipforge {

// A reader that went away (a pipe's, a socket's) then shows as a failed write, which the program
// handles, instead of ending the program on the spot.
void ignoreVanishedReaders();

// True for the signal Ctrl-C sends.
bool isInterruptSignal(int signalNumber);

// Ends the process as Ctrl-C ends a program, so that a calling shell's loop stops too. Returns
// only when the process blocks that signal.
void endAsInterrupted();

}  // namespace clipforge
