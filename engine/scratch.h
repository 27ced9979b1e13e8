// The scratch layer into which the scene loops draw one triangle at a time,
// and the seam-free merge of it into the output image.
#pragma once

// Frame images of the current scene call, taken and released by __RasterScene:
// the triangle just drawn (colour and its coverage in alpha), the last
// triangle that covered each pixel only partly (colour and coverage), and the
// colour that lay under that triangle.
extern unsigned char* __ScratchLayer;
extern unsigned char* __MergeLast;
extern unsigned char* __MergeUnder;

// Zeroes pixels x0 <= x < x1, y0 <= y < y1 of the scratch layer, clipped to the frame.
void __ClearScratchRect(int x0, int y0, int x1, int y1);

// Composites the same rectangle of the scratch layer into out by its coverage.
void __MergeScratchRect(unsigned char* out, int x0, int y0, int x1, int y1);
