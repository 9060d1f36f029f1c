#pragma once

// The user-coordinate window of a drawing surface for one diagram: the
// diagram's corners plus a margin, stretched vertically and fitted to the
// surface's proportions, centred on the diagram.
namespace MODULE21 {

struct ScaleWindowResult {
  float width = 0;
  float height = 0;
  float top = 0;
  float left = 0;
};

// Computes the window for the reference corner (x1, y1) and the opposite
// corner (x2, y2). `margin` is doubled in place, as callers of the frame
// drawers have always seen it. Throws std::domain_error for a zero surface
// extent, a zero surface ratio or a zero stretch (the division by zero the
// callers report). Results are stored as Single, as the frames keep them.
ScaleWindowResult ComputeScaleWindow(double x1, double y1, double x2, double y2, double stretch,
                                     double& margin, double surfaceA, double surfaceB);

// Twelve-argument form: the four results are written in the order width,
// height, top, left, after the margin.
void ComputeScaleWindow(double x1, double y1, double x2, double y2, double stretch, double& margin,
                        double surfaceA, double surfaceB, float& width, float& height, float& top,
                        float& left);

}  // namespace MODULE21
