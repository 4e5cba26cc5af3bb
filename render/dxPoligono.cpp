#include "render/dxPoligono.h"

// Defined here so the polygon classes' shared type information has one home.
dxPoligono::~dxPoligono() = default;
