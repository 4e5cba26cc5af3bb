// The demo level: a few recognisable textured meshes on three pages.
#pragma once

#include "level/writer/LevelWriter.h"

// Mesh numbers of the demo level, in mesh order.
enum DemoMesh { kCrateMesh, kCheckerBallMesh, kPyramidMesh, kArrowSignMesh, kDemoMeshCount };

LevelDescription MakeDemoLevel();
