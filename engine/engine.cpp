#include "engine/qf_engine.h"
