// The throughput S that the textbooks give against the offered load G, both in frames per
// frame time, for drawing beside what the runs measured. `a` is the ratio of the delay before a
// sending is sensed on the bus to the frame time.
#pragma once

namespace bruvik {

// Pure ALOHA (Abramson, 1970): S = G e^(-2G).
double pure_aloha_throughput(double g);

// Slotted ALOHA (Roberts, 1972): S = G e^(-G).
double slotted_aloha_throughput(double g);

// Non-persistent CSMA (Kleinrock and Tobagi, 1975): S = G e^(-aG) / (G(1+2a) + e^(-aG)).
double non_persistent_csma_throughput(double g, double a);

// 1-persistent CSMA (Kleinrock and Tobagi, 1975):
//   S = G [1 + G + aG(1 + G + aG/2)] e^(-G(1+2a))
//       / (G(1+2a) - (1 - e^(-aG)) + (1+aG) e^(-G(1+a))).
double one_persistent_csma_throughput(double g, double a);

// p-persistent CSMA has none here: Kleinrock and Tobagi's throughput for it depends on p and is
// no closed form in G and a that we could check.

}  // namespace bruvik
