// The one application object of the benchmark program. Made on first use
// by whichever benchmark runs first: a widget application on Qt's
// offscreen platform, which serves the GUI and non-GUI benchmarks alike.
#pragma once

namespace wellenschau::bench {

void EnsureApplication();

}  // namespace wellenschau::bench
