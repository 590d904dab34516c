// Number checks that both the dBase writer and the table export need: the
// export refuses a value the dBase driver could not store, and says why.
#ifndef RECORDHAUL_BASE_NUMBERS_H_
#define RECORDHAUL_BASE_NUMBERS_H_

namespace rh {

// Whether `v` fits a numeric field `width` characters wide once written
// without decimals (rounded half to even): NaN and infinity never do.
bool NumberFits(double v, int width);

}  // namespace rh

#endif  // RECORDHAUL_BASE_NUMBERS_H_
