#include "compute/run_state.h"

namespace aequa {

uint32_t Power = 0;
uint32_t LeftTerms = 0;
uint32_t RightTerms = 0;
uint32_t SearchMode = 0;
uint32_t CurrentValue = 0;
uint32_t SearchLimit = 0;
uint32_t PrecisionWords = 0;
uint32_t Resumed = 0;
uint32_t ResumeRejected = 0;
uint32_t SieveRightTerms = 0;
uint32_t SearchAbandoned = 0;
uint32_t PathTermCount = 0;

uint32_t PathTerms[kPathCapacity];
uint32_t ResumeTerms[kPathCapacity];
uint32_t DepthCounters[kDepthCapacity];

}  // namespace aequa
