#include <cstdio>
int main() { std::puts("qarrum-cli"); return 0; }
