#pragma once

// The names gameplay looks its GameStats values up by, spelled exactly as level files store them.

// Top horizontal speed, and vertical move speed.
inline constexpr const char* kStatMovementSpeed = "Movement Speed";
// Top horizontal speed while holding a ball.
inline constexpr const char* kStatSpeedWhenHoldingBall = "Speed When Holding Ball";
// Horizontal acceleration.
inline constexpr const char* kStatMovementAcceleration = "Movement Acceleration";
// Horizontal braking.
inline constexpr const char* kStatMovementDeceleration = "Movement Deceleration";
// Upward velocity of a jump.
inline constexpr const char* kStatJumpSpeed = "Jump Speed";
// Extra downward speed per update in the air.
inline constexpr const char* kStatFallSpeed = "Fall Speed";
// Reach of a grab, times the player's x scale.
inline constexpr const char* kStatGrabRange = "Grab Range";
// Throw strength.
inline constexpr const char* kStatThrowPower = "Throw Power";
// Throw angle in degrees, kept in the holder's stats.
inline constexpr const char* kStatThrowAngle = "Throw Angle";
// Distance of a held ball from its holder's position.
inline constexpr const char* kStatHoldingDistance = "Holding Distance";
// Id of the ball a player holds, 0 for none.
inline constexpr const char* kStatGrabbedObject = "Grabbed Object";
// Facing: 1 right, 0 left.
inline constexpr const char* kStatOrientation = "Orientation";
// Ball flag: a thrown ball knocks players back.
inline constexpr const char* kStatGivesKnockback = "Gives Knockback";
// Ball flag: may be grabbed.
inline constexpr const char* kStatIsGrabbable = "Is Grabbable";
// Player number, 1 or 2.
inline constexpr const char* kStatPlayerAffiliation = "Player Affiliation";
// Squash and stretch tuning and rest scale.
inline constexpr const char* kStatDeformRate = "Deform rate";
inline constexpr const char* kStatReformRate = "Reform rate";
// How far the x scale may squash or stretch from rest; one stat for both ways.
inline constexpr const char* kStatDeformScaleMaxMin = "Deform Scale Max/Min";
inline constexpr const char* kStatScaleX = "ScaleX";
inline constexpr const char* kStatScaleY = "ScaleY";
// Where an object is put back after a goal or after leaving the arena.
inline constexpr const char* kStatGoalSpawnX = "GoalSpawnX";
inline constexpr const char* kStatGoalSpawnY = "GoalSpawnY";
// Round length in seconds, in the stats of the object named "timer".
inline constexpr const char* kStatTimer = "timer";
// The timer script's reset request.
inline constexpr const char* kStatReset = "reset";
// The two end points of a moving platform.
inline constexpr const char* kStatPoint1X = "Point1 X";
inline constexpr const char* kStatPoint1Y = "Point1 Y";
inline constexpr const char* kStatPoint2X = "Point2 X";
inline constexpr const char* kStatPoint2Y = "Point2 Y";
