#pragma once

#include "app/Form1.h"
