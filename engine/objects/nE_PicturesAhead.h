// Asks the platform to decode, in the background, the pictures a subtree's sprites will load when it
// is activated, so that the loads of the activation take pixels already decoded (or wait for them)
// instead of decoding one after another on the frame thread.
#pragma once

class nE_Object;

class nE_PicturesAhead {
public:
    // Every picture of a sprite in the subtree that no live texture holds yet, in activation order
    // (children before their parent), each file once.
    static void forTree(nE_Object* root);
};
