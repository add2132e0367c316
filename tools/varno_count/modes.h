// The kinds of run of varno-count.
#pragma once

#include <atomic>
#include <string>

#include "counting/exchange.h"
#include "request.h"

namespace varno {
class MpiExchange;
}

namespace varno::count {

// The processes of this run: several when started by mpirun, where only the first prints.
struct Launch {
  MpiExchange* mpi = nullptr;
  Exchange* exchange = nullptr;
  bool prints = true;
};

// Set once Ctrl+C (SIGINT) or SIGTERM arrived.
extern std::atomic<bool> interrupted;
void catchInterrupts();

int countMode(const Request& request, const Launch& launch);
int strongestMode(const Request& request, const Launch& launch);
int estimateMode(const Request& request, const Launch& launch);
int tableMode(const Request& request, const Launch& launch);
int spectrumMode(const Request& request, const Launch& launch);
int spectrumTableMode(const Request& request, const Launch& launch);
int monteCarloMode(const Request& request);
int joinMode(const Request& request);

// The line of a count: n=N k=K labellings=X rings=R best=B/KK seconds=S.
std::string countLine(const RingCount& count, double seconds);
// The line of one pass of a count (RingCount::pass).
std::string passLine(const RingCount& count, double seconds);

}  // namespace varno::count
