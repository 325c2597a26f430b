// Where the analysis puts the points of a trace or spectrum: the window
// adapts it to a chart series, tests and the export collect the points.
// Called on the user-interface thread, once per point, on the per-buffer
// path, so implementations must not allocate.
#pragma once

namespace wellenschau {

class TPointSink {
public:
    virtual void AddPoint(double x, double y) = 0;

protected:
    ~TPointSink() = default;
};

}  // namespace wellenschau
