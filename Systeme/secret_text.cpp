#include "Systeme/secret_text.h"

void SecretText::Wipe() noexcept {
  // Up to the capacity: a shorter text assigned earlier leaves a longer one's tail there. The
  // resize stays within the capacity, so it neither allocates nor throws.
  text_.resize(text_.capacity());
  volatile char* bytes = text_.data();
  for (std::size_t i = 0; i < text_.size(); ++i) bytes[i] = 0;
  text_.clear();
}
