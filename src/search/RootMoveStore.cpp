#include "search/RootMoveStore.h"

#include <utility>

RootMoveStore RootMoves;

namespace {
bool InStore(int i) { return i >= 0 && i < MaxMovesInList; }
}  // namespace

void RootMoveStore::CopyMoves(int n, MoveGen* list) {
  if (n < 0) n = 0;
  if (n > MaxMovesInList) n = MaxMovesInList;
  Count = n;
  for (int i = 0; i < n; i++) {
    Values[i] = OrderValues[i] = list->OrderValues[i];
    FromSquares[i] = list->FromSquares[i];
    ToSquares[i] = list->ToSquares[i];
    Promotions[i] = list->Promotions[i];
  }
}

void RootMoveStore::NextRootMove(int i, int n, std::uint64_t* from, std::uint64_t* to, char* promotion) {
  if (!InStore(i)) {
    *from = *to = 0;
    *promotion = NoPromotion;
    return;
  }
  if (n > MaxMovesInList) n = MaxMovesInList;
  for (int j = i + 1; j < n; j++) {
    if (OrderValues[j] <= OrderValues[i]) continue;
    std::swap(Values[i], Values[j]);
    std::swap(OrderValues[i], OrderValues[j]);
    std::swap(FromSquares[i], FromSquares[j]);
    std::swap(ToSquares[i], ToSquares[j]);
    std::swap(Promotions[i], Promotions[j]);
  }
  *from = FromSquares[i];
  *to = ToSquares[i];
  *promotion = Promotions[i];
}

void RootMoveStore::AssignMoveValue(int i, int v) {
  if (InStore(i)) Values[i] = v;
}
