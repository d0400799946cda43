#pragma once
#include "FuzzWorld.h"

#include <memory>

class Graphics;

// The fuzz world of the engine with the graphics system on top: a Graphics that was never given a
// window (its material and texture hooks installed, and the background block hooks), the drawing
// classes' prototypes and a texture registry without GL. Levels staged into it parse every material,
// texture and background block.
class LevelGraphicsWorld
{
  public:
    // Textures the world registers besides "Default" and "WhitePixel".
    static constexpr const char* kTextureNames[] = {"FalloffCircleLight", "Player1", "Ball"};

    LevelGraphicsWorld();
    ~LevelGraphicsWorld();
    // Throws the world away and builds it afresh.
    void Restart();

  private:
    void StartGraphics();
    void StopGraphics();

    // Objects and prototypes keep the renderer's shaders: the world goes first.
    std::unique_ptr<FuzzWorld> world;
    std::unique_ptr<Graphics> graphics;
};
