// TAxisScale: the scale and pixel span of one axis as the last paint set
// them, and the mapping between values and pixels (linear or logarithmic,
// optionally inverted). A plain value: the axis keeps one, the label and
// tick computations read it, tests build their own. Any thread.
#pragma once

namespace wellenschau {

struct TAxisScale {
    // Scale bounds (values) and their difference as the scale update took
    // it; Range is not recomputed when a logarithmic label pass raises a
    // non-positive Minimum.
    double Minimum = 0.0;
    double Maximum = 0.0;
    double Range = 0.0;
    // Pixel span along the axis: left to right, or top to bottom.
    int StartPixel = 0;
    int EndPixel = 0;
    int PixelLength = 0;
    int CenterPixel = 0;
    bool Horizontal = false;
    bool Logarithmic = false;
    bool Inverted = false;

    friend bool operator==(const TAxisScale&, const TAxisScale&) = default;

    // Sets Minimum, Maximum and Range = maximum - minimum.
    void SetBounds(double minimum, double maximum);
    // Sets the span from start to end pixel, its length and centre.
    void SetPixels(int start, int end);

    // Pixel of a value along the axis; a degenerate scale maps to the centre.
    int ValueToPosition(double value) const { return Horizontal ? ValueToPositionX(value) : ValueToPositionY(value); }
    // As horizontal (minimum at the start) or vertical (minimum at the end).
    int ValueToPositionX(double value) const;
    int ValueToPositionY(double value) const;
    double PositionToValue(int pixel) const;

private:
    // Which end of the pixel span a mapped distance is counted from.
    enum class TCountFrom { Start, End };

    double LinearPosition(double value, TCountFrom from) const;
    int LogarithmicPosition(double value, TCountFrom from) const;
    static int Offset(int pixel, double distance, TCountFrom from);
    // Natural logarithms of the bounds; 0 for a bound that is not positive.
    double LogMinimum() const;
    double LogMaximum() const;
};

}  // namespace wellenschau
