// Hands trace and spectrum points to a chart series.
#pragma once

#include "analysis/PointSink.h"
#include "chart/FastLineSeries.h"

namespace wellenschau {

class TSeriesSink final : public TPointSink {
public:
    explicit TSeriesSink(TFastLineSeries& series) : FSeries(series) {}
    void AddPoint(double X, double Y) override { FSeries.AddPoint(X, Y); }

private:
    TFastLineSeries& FSeries;
};

}  // namespace wellenschau
