// The probe module's own commands, each a different misuse of the host, and
// what its render saw of the host.
#pragma once

#include "AE_Effect.h"
#include "AE_EffectSuites.h"

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

// The probe's parameters after the input layer.
enum {
  kProbeChoiceParam = 1,  // popup: how the render behaves (below)
  kProbeLayerParam = 2,   // a layer
  kProbePathParam = 3,    // a mask path
  kProbeAmountParam = 4,  // a fixed slider, 0 to 100
  kProbeWhereParam = 5,   // a point
  kProbeParamCount = 6,   // the input layer included
};

// The render's behaviour, by the popup's choice.
enum {
  kProbeRenderCopy = 1,        // copy the input into the output, row by row
  kProbeRenderOverrun = 2,     // also write one pixel past the end of every output row
  kProbeRenderKeepLocked = 3,  // leave the sequence data locked
  kProbeRenderPathMisuse = 4,  // ask for a vertex past the path's end, keep the path checked out
};
#define kProbeChoices "Copy|Overrun|Keep locked|Path misuse"

constexpr int kProbeMaxVertices = 8;

// What the probe's last render saw, as it saw it.
struct ProbeRenderReport {
  PF_InData in_data;
  PF_EffectWorld input;  // parameter 0
  PF_EffectWorld output;
  PF_Err layer_checkout;  // checking out the layer parameter
  PF_EffectWorld layer;   // as checked out
  A_long num_paths;
  PF_PathID first_path_id;  // PF_PathInfo of index 0
  PF_PathID path_param;     // the path parameter's value
  bool path_obtained;
  PF_Boolean open;
  PF_Boolean inverted;
  A_long segments;
  A_long vertices_read;  // segments + 1, at most kProbeMaxVertices
  PF_PathVertex vertices[kProbeMaxVertices];
  PF_Fixed amount;       // "Amount" in the parameter array
  PF_Fixed amount_next;  // "Amount" checked out one time step after the current time
  PF_Fixed where_x;      // "Where" in the parameter array
  PF_Fixed where_y;
};

// Exported by the probe: the report of its last render.
typedef const ProbeRenderReport* (*ProbeLastRenderFunc)();
#define kProbeLastRenderName "ProbeLastRender"
