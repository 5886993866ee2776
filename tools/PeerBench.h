// torvex-bench --peers: torvex-report beside the system's own hardware
// listers, each pair run alternately so that both see the same load.
#pragma once

namespace torvex::bench {

// Prints the table; returns the exit status.
int RunPeerBench(int pairs, const char* selfPath);

}  // namespace torvex::bench
