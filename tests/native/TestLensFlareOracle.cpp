#include "native/LensFlareOracle.h"

#include <doctest/doctest.h>
