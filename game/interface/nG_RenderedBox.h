// Paints a widget's hidden parts once into a render target: the framed boxes of the pop-up and the
// dialog are drawn as one picture rather than nine stretched pieces and a text every frame.
#pragma once

#include <memory>
#include <vector>

class nE_Object;
class nE_Texture;

class nG_RenderedBox {
public:
    // Larger boxes are refused: no text of the game needs one.
    static constexpr int kMaxSide = 2048;

    // Draws the parts in the order given (each visible for the moment) with their own placement around
    // the centre of a width x height target. None without a renderer, for a size outside
    // 1..kMaxSide, or while another target is open (targets do not nest).
    static std::shared_ptr<nE_Texture> paint(int width, int height, const std::vector<nE_Object*>& parts);
};
