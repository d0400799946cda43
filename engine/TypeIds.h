#pragma once
#include <cstdint>

// Component type ids. Level files store these numbers, so they are fixed here and never depend on the
// order in which classes happen to be initialised or linked.
namespace ComponentTypeId
{
inline constexpr std::uint32_t kBehaviorInput = 0;
inline constexpr std::uint32_t kCCSM = 1;
// Shared by BoxCollider and CircleCollider.
inline constexpr std::uint32_t kCollider = 2;
inline constexpr std::uint32_t kGameStats = 3;
inline constexpr std::uint32_t kLight = 4;
inline constexpr std::uint32_t kParticleComponent = 5;
// Shared by Renderer and its derived renderers.
inline constexpr std::uint32_t kRenderer = 6;
inline constexpr std::uint32_t kRigidBody = 7;
inline constexpr std::uint32_t kSoundCue = 8;
inline constexpr std::uint32_t kTextRenderer = 9;
inline constexpr std::uint32_t kTimeManipulator = 10;
inline constexpr std::uint32_t kTransform = 11;
inline constexpr std::uint32_t kCount = 12;
} // namespace ComponentTypeId

// Script type ids, fixed for the same reason. Id 8 belongs to no class; the ids after it keep their numbers.
namespace ScriptTypeId
{
inline constexpr std::uint32_t kBallBounceScript = 0;
inline constexpr std::uint32_t kBallCollisionScript = 1;
inline constexpr std::uint32_t kDeformationScript = 2;
inline constexpr std::uint32_t kDestructableScript = 3;
inline constexpr std::uint32_t kDraggingCollisionScript = 4;
inline constexpr std::uint32_t kGameFinishedScript = 5;
inline constexpr std::uint32_t kHazardCollisionScript = 6;
inline constexpr std::uint32_t kHUDScript = 7;
inline constexpr std::uint32_t kReserved8 = 8;
inline constexpr std::uint32_t kLandingScript = 9;
inline constexpr std::uint32_t kLevelBoundsScript = 10;
inline constexpr std::uint32_t kMenuScript = 11;
inline constexpr std::uint32_t kPlayerScript = 12;
inline constexpr std::uint32_t kGoalCollisionScript = 13;
inline constexpr std::uint32_t kScoringScript = 14;
inline constexpr std::uint32_t kMoveScript = 15;
inline constexpr std::uint32_t kEventTextScript = 16;
inline constexpr std::uint32_t kTimerScript = 17;
inline constexpr std::uint32_t kTransitionScript = 18;
inline constexpr std::uint32_t kVoiceOverScripts = 19;
inline constexpr std::uint32_t kBallSpeedScript = 20;
inline constexpr std::uint32_t kLevelMusicScript = 21;
inline constexpr std::uint32_t kCount = 22;
} // namespace ScriptTypeId
