// Hands the media bases the constructors of their platform bindings: the bases declare what a sound
// hub, a texture, a frame texture and a generated texture do, and never create the _Pl5 classes
// themselves. The engine installs them when it is created.
#pragma once

class nE_Bindings_Pl5 {
public:
    static void install();
};
