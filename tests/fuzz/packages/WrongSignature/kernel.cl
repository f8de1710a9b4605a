// Compiles, but passes pointers where the images go and a float4 for a slider.
__kernel void wrong(__global float4* input, __global float4* output, float time, int frame, float duration,
                    float4 amount) {
  const size_t i = get_global_id(1) * get_global_size(0) + get_global_id(0);
  output[i] = input[i] * amount;
}
