#include "Substance.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>

TEST(Substance, TableRowsKeepTheirTunedValues)
{
    EXPECT_EQ(std::string(GetSubstance(5).name), "SuperBall");
    EXPECT_FLOAT_EQ(GetSubstance(5).restitution, 0.95f);
    EXPECT_FLOAT_EQ(GetSubstance(kStaticSubstance).density, 0.0f);
    EXPECT_EQ(std::string(GetSubstance(kModularSubstance).name), "Modular");
    EXPECT_EQ(std::string(SubstanceNames()[9]), "Player");
}

TEST(Substance, IndexOutsideTheTableThrows)
{
    EXPECT_THROW(GetSubstance(-1), std::out_of_range);
    EXPECT_THROW(GetSubstance(10), std::out_of_range);
}
