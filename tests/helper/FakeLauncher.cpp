// The launcher in test bundles: up for the milliseconds of its first argument (1500 without one,
// longer than the helper's liveness check).

#include <chrono>
#include <cstdlib>
#include <thread>

int main(int argc, char** argv) { std::this_thread::sleep_for(std::chrono::milliseconds(argc > 1 ? std::atoi(argv[1]) : 1500)); }
