// Scratch folders and file helpers for the RAM card tests.
#pragma once

#include "support/Scratch.h"
