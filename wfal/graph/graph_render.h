// The graph renderer: draws graph record `graph_index` of the module state into the rectangle
// (left, top, right, bottom) of `dc`. With a null DC nothing is drawn.
#pragma once

#include <windows.h>

void render_graph(int graph_index, int left, int top, int right, int bottom, int pen_width,
                  int font_height, int y_sign, double scale, double text_scale, HDC dc);
