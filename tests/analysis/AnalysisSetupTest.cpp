#include "analysis/AnalysisState.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

using namespace wellenschau;

namespace {

class AnalysisSetupTest : public ::testing::Test {
protected:
    void SetUp() override { SetupAnalysis(*s, 300); }
    std::unique_ptr<AnalysisState> s = std::make_unique<AnalysisState>();
};

TEST_F(AnalysisSetupTest, DerivedFrequenciesAreExact) {
    EXPECT_EQ(s->NyquistFrequency, 22050.0);
    EXPECT_EQ(s->BinWidth, 10.7666015625);
}

TEST_F(AnalysisSetupTest, WindowIsASymmetricScaledHann) {
    EXPECT_EQ(s->Window[0], 0.0);
    EXPECT_EQ(s->Window[4095], 0.0);
    EXPECT_EQ(s->Window[4096], 0.0);
    EXPECT_NEAR(s->Window[1], 5.388e-11, 0.001e-11);
    for (int i = 0; i < 4096; ++i) EXPECT_NEAR(s->Window[i], s->Window[4095 - i], 2e-20 + 1e-14 * s->Window[i]) << i;  // rounding of the cosine
    const auto largest = std::max_element(s->Window.begin(), s->Window.end()) - s->Window.begin();
    EXPECT_TRUE(largest == 2047 || largest == 2048);
    EXPECT_NEAR(s->Window[2047], 9.1553e-05, 0.00005e-05);
    EXPECT_LT(s->Window[2047], 3.0 / 32768.0);
}

TEST_F(AnalysisSetupTest, BinsFormOneHundredNinetyFiveRows) {
    EXPECT_EQ(s->RowCount, 195);
    for (int j = 0; j <= 44; ++j) EXPECT_EQ(s->BinRow[j], j);
    EXPECT_EQ(s->RowBinCount[44], 1.0);
    EXPECT_EQ(s->RowBinCount[45], 2.0);
    EXPECT_EQ(s->BinRow[2021], 193);
    EXPECT_EQ(s->BinRow[2022], 194);
    EXPECT_EQ(s->BinRow[2047], 194);
    EXPECT_EQ(s->RowBinCount[194], 26.0);
    double bins = 0.0;
    for (int r = 0; r < 195; ++r) bins += s->RowBinCount[r];
    EXPECT_EQ(bins, 2048.0);
    for (int j = 1; j < 2048; ++j) EXPECT_LE(s->BinRow[j] - s->BinRow[j - 1], 1);
}

TEST_F(AnalysisSetupTest, RowFrequenciesAreGeometricMeans) {
    EXPECT_EQ(s->RowFrequency[0], s->BinWidth);
    EXPECT_NEAR(s->RowFrequency[1], 21.53, 0.005);
    EXPECT_NEAR(s->RowFrequency[193], 21500.3, 0.05);
    EXPECT_NEAR(s->RowFrequency[194], 21915.3, 0.05);
    EXPECT_EQ(s->RowFrequency[195], 0.0);
    for (int r = 1; r < 195; ++r) EXPECT_GT(s->RowFrequency[r], s->RowFrequency[r - 1]);
}

TEST_F(AnalysisSetupTest, PixelRowsMapOntoRowsWithTheirNearerNeighbour) {
    for (int k = 0; k <= 9; ++k) EXPECT_EQ(s->PixelRow[k], 1) << k;
    EXPECT_EQ(s->PixelRow[299], 193);
    int lower = 0, upper = 0, none = 0;
    double minWeight = 1.0, maxWeight = 0.0;
    for (int k = 0; k < 300; ++k) {
        const int step = s->PixelRowStep[k];
        lower += step == -1;
        upper += step == 1;
        none += step == 0;
        minWeight = std::min(minWeight, s->PixelRowWeight[k]);
        maxWeight = std::max(maxWeight, s->PixelRowWeight[k]);
        const int neighbour = s->PixelRow[k] + step;
        EXPECT_GE(neighbour, 0);
        EXPECT_LT(neighbour, s->RowCount);
    }
    EXPECT_EQ(lower, 153);
    EXPECT_EQ(upper, 147);
    EXPECT_EQ(none, 0);
    EXPECT_NEAR(minWeight, 0.5005, 0.00005);
    EXPECT_NEAR(maxWeight, 0.9964, 0.00005);
}

TEST_F(AnalysisSetupTest, PeakDisplayStartsFromTheFloor) {
    for (int r = 0; r <= 195; ++r) EXPECT_EQ(s->PrevRowLevel[r], -1000.0) << r;
    EXPECT_EQ(s->PrevRowLevel[196], 0.0);
}

TEST(AnalysisStateTest, StartValuesAndLabels) {
    auto s = std::make_unique<AnalysisState>();
    EXPECT_EQ(s->SampleRate, 44100.0);
    EXPECT_EQ(s->AmplitudeScale, 100.0);
    EXPECT_EQ(s->StoredPeak, 0);
    EXPECT_EQ(s->LabelFrequencies[0], 20);
    EXPECT_EQ(s->LabelFrequencies[27], 20000);
    EXPECT_EQ(s->LabelTexts[17], "1k");
    EXPECT_EQ(s->LabelTexts[26], "10k");
    EXPECT_EQ(std::count_if(s->LabelTexts.begin(), s->LabelTexts.end(), [](const auto& t) { return !t.empty(); }), 10);
}

TEST(AnalysisStateTest, PictureHeightOutsideTheTablesIsRefused) {
    auto s = std::make_unique<AnalysisState>();
    EXPECT_THROW(SetupAnalysis(*s, 1026), ERangeError);
    EXPECT_THROW(SetupAnalysis(*s, 0), ERangeError);
    EXPECT_NO_THROW(SetupAnalysis(*s, 1025));
}

}  // namespace
