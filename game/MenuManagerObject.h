#pragma once

class GameObject;

// Creates the object whose behaviour machine watches the window and the pause inputs on a screen: a
// machine of the behaviour "MenuBehavior", whose play state (on top) brings the main window up when it
// is entered. The set and its context are appended to the behaviour factory on every call; the first of
// a name is the one used.
GameObject* CreateMenuManagerObject();
