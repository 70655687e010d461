// Where the curve plot lies in the graph area's client, in its pixels: the
// frame, input level 0 and output level 0, shared by the curves and the
// histogram drawn behind them.
#pragma once

// Plot geometry in client pixels of the graph area.
inline constexpr int kPlotFrameLeft = 7;
inline constexpr int kPlotFrameRight = 265;   // exclusive: the frame line lies on x = 264
inline constexpr int kPlotOrigin = 8;         // x of input level 0
inline constexpr int kPlotBottom = 263;       // y of output level 0
inline constexpr int kGraphControlSize = 276; // the graph control's outer size, edge included
