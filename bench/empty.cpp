// The floor for a process: a static C++ program that does nothing. Whatever
// our command costs above this is its own.
int main() { return 0; }
