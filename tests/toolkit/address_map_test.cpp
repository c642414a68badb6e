#include "toolkit/address_map.h"

#include <gtest/gtest.h>
