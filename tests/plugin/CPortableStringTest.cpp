#include <gtest/gtest.h>
#include "OrinRobo/CPortableString.h"
TEST(CPortableString, Default) { CPortableString s; EXPECT_EQ(6, s.Capacity()); }
