#pragma once

// Which vector instructions the fast paths of the drawing layer and the
// transforms may use. Each fast path gives the same bytes as the plain code
// it stands in for; lowering the level lets tests and benchmarks compare
// the paths on one processor.
namespace gdi {

enum class Vectors {
    Plain,  // no vector code beyond what the compiler makes of the plain loops
    Avx2,   // 256-bit integer vectors
    Avx512, // 512-bit vectors with byte and word operations and byte permutes (F, BW, VL, VBMI)
};

// The widest level this processor offers.
Vectors MachineVectors();

// The level in use: the machine's, or lower if LimitVectors asked for it.
Vectors ActiveVectors();

// Caps the level in use (a cap above the machine's level changes nothing)
// and returns the previous cap.
Vectors LimitVectors(Vectors cap);

// "plain", "avx2" or "avx512".
const char* VectorsName(Vectors level);

} // namespace gdi
