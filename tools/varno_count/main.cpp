// varno-count: exact ring counts, the strongest ring, estimates and Monte Carlo runs from the command line.

#include <cstdio>
#include <exception>
#include <iostream>
#include <memory>
#include <string_view>
#include <vector>

#include "counting/mpi/mpiexchange.h"
#include "modes.h"
#include "request.h"

namespace {

using namespace varno::count;

int run(const Request& request, const Launch& launch) {
  switch (request.mode) {
    case Mode::Help:
      if (launch.prints) std::cout << kHelp;
      return 0;
    case Mode::Version:
      if (launch.prints) std::cout << "varno-count " << VARNO_VERSION << '\n';
      return 0;
    case Mode::Count:
      return request.spectrum ? spectrumMode(request, launch) : countMode(request, launch);
    case Mode::Strongest:
      return strongestMode(request, launch);
    case Mode::Estimate:
      return estimateMode(request, launch);
    case Mode::Table:
      return request.spectrum ? spectrumTableMode(request, launch) : tableMode(request, launch);
    case Mode::MonteCarlo:
      return monteCarloMode(request);
    case Mode::Join:
      return joinMode(request);
  }
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  std::unique_ptr<varno::MpiExchange> mpi;
  Launch launch;
  try {
    mpi = varno::MpiExchange::startIfLaunched(&argc, &argv);
  } catch (const std::exception& error) {
    std::cerr << "varno-count: " << error.what() << '\n';
    return kExitFailure;
  }
  if (mpi) {
    launch.mpi = mpi.get();
    launch.exchange = mpi.get();
    launch.prints = mpi->rank() == 0;
  }
  const std::vector<std::string_view> args(argv + 1, argv + argc);
  catchInterrupts();
  try {
    const Request request = parseArguments(args);
    // One process deals, or joins.
    if (mpi && (request.mode == Mode::MonteCarlo || request.mode == Mode::Join) && mpi->rank() != 0) return 0;
    return run(request, launch);
  } catch (const UsageError& error) {
    if (launch.prints) std::cerr << "varno-count: " << error.message << " (see varno-count --help)\n";
    return kExitUsage;
  } catch (const std::exception& error) {
    std::cerr << "varno-count: " << error.what() << '\n';
    if (mpi) mpi->abort(kExitFailure);
    return kExitFailure;
  }
}
