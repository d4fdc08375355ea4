#pragma once
// The project side's check of returned work units: one replica on its own (its results file
// read as `aequa merge` reads a part: every tag checks and the done lines cover the part), and
// two replicas of one unit against each other (same part, same result lines).
#include <string>

namespace aequa::boinc {

struct Replica {
  std::string results;  // the returned results file
  std::string part;     // the returned part file
};

// "" when the replica is valid, else why not.
std::string CheckReplica(const Replica& replica);
// "" when two replicas are of the same part and found the same results, else how they differ.
// Lines given twice in one file (work redone after a restart) count once; done lines are
// not compared (they carry each machine's times), their coverage is CheckReplica's.
std::string CompareReplicas(const Replica& a, const Replica& b);

}  // namespace aequa::boinc
