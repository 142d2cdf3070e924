// lanternslide-tool: pack, inspect, render, gallery, simulate, bench.
int main() { return 2; }
