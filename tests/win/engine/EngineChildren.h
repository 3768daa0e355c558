// The roles the test program plays when a test starts it again as a child
// (--engine-test-child=<name>): each returns the child's exit code, 0 when
// everything it checks held.
#pragma once

int LifecycleChild();
int InitializeOnlyChild();
int AutomationHostChild();
int WrongThreadChild();
