// The probe module's own commands, each a different misuse of the host.
#pragma once

enum {
  kProbeUnlockTwice = 100,          // lock the sequence data once, unlock it twice
  kProbeDisposeTwice = 101,         // dispose the sequence data twice
  kProbeReleaseUnacquired = 102,    // release a suite never acquired
  kProbeAcquireOnly = 103,          // acquire a suite and keep it
  kProbeThrow = 104,                // let an exception out
  kProbeCheckoutOnly = 105,         // check parameter 1 out and never in
  kProbeForeignSequenceData = 106,  // hand back sequence data that is no host handle
  kProbeReadChoice = 107,           // return parameter 1's popup value
};
