// The kinds of run of varno-count.
#pragma once

#include <atomic>

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

}  // namespace varno::count
