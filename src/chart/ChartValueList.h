// TChartValueList: one dimension (X or Y) of a series' points, as doubles
// in point order, with an insertion order rule. The storage keeps its
// capacity across Clear, so refilling a series every buffer allocates
// nothing once it has reached its size. UI thread only.
#pragma once

#include "chart/ChartTypes.h"

#include <QString>

#include <vector>

namespace wellenschau {

class TChartSeries;

class TChartValueList {
public:
    TChartValueList(TChartSeries& owner, const QString& name, TChartListOrder order);
    TChartValueList(const TChartValueList&) = delete;
    TChartValueList& operator=(const TChartValueList&) = delete;

    const QString& Name() const { return FName; }
    double Multiplier() const { return FMultiplier; }
    // Repaints the series: every value reads differently.
    void SetMultiplier(double value);
    TChartListOrder Order() const { return FOrder; }
    void SetOrder(TChartListOrder value) { FOrder = value; }
    bool DateTime() const { return FDateTime; }
    void SetDateTime(bool value) { FDateTime = value; }

    int Count() const { return static_cast<int>(FValues.size()); }
    // Stored value i times Multiplier; i must be a valid index.
    double Value(int i) const { return FValues[static_cast<std::size_t>(i)] * FMultiplier; }
    // Smallest and largest stored value times Multiplier; 0 when empty.
    double MinValue() const;
    double MaxValue() const;

    // Inserts v where the order rule puts it (after equal values) and
    // returns its index. Appending (v in order after the last value) is
    // cheap and allocates nothing within the capacity.
    int InsertInOrder(double v) {
        FStatsDirty = true;
        if (FOrder == loNone || FValues.empty() || (FOrder == loAscending ? v >= FValues.back() : v <= FValues.back())) {
            FValues.push_back(v);
            return Count() - 1;
        }
        return InsertBeforeLast(v);
    }
    void InsertValue(int index, double v);
    void AppendValue(double v) {
        FStatsDirty = true;
        FValues.push_back(v);
    }
    void Clear();

private:
    void RecalcStats() const;
    // Inserts v, which does not go after the last value, where it belongs.
    int InsertBeforeLast(double v);

    TChartSeries& FOwner;
    QString FName;
    double FMultiplier = 1.0;
    TChartListOrder FOrder;
    bool FDateTime = false;
    std::vector<double> FValues;
    mutable bool FStatsDirty = true;
    mutable double FMinValue = 0.0;
    mutable double FMaxValue = 0.0;
};

}  // namespace wellenschau
