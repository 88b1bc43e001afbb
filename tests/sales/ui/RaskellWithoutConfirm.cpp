// A payment library that has a payment for everybody but cannot confirm it:
// GetPay without Confirm.
extern "C" __attribute__((visibility("default"))) int GetPay(const char*, int* payIndex, float* amount)
{
    *payIndex = 3;
    *amount = 20;
    return 0;
}
