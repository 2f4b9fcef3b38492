#pragma once

#include "engine/Lower.h"
