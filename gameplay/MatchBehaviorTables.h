#pragma once

class CCSMFactory;

// Appends the match's behaviour contexts and sets, in the match's order: the ball's ("UnGrabbed
// Context", "Grabbed Context", "Ball Behavior", whose first behaviour appears twice on purpose), then the
// player's ("Player Behavior", "OnGround Context", "InAir Context").
void AddMatchBehaviorTables(CCSMFactory& factory);

// Appends the manager object's tables: "Manager Behavior", starting in PlayMode, whose context allows the
// round commands, and EditorMode, which allows only RoundEnd.
void RegisterManagerBehavior(CCSMFactory& factory);
