// Builds and fits its controls, but no frame divides into 7 x 7 work-groups
// without a local size, so every launch fails.
__kernel __attribute__((reqd_work_group_size(7, 7, 1))) void fixed(__read_only image2d_t input,
                                                                   __write_only image2d_t output, float time,
                                                                   int frame, float duration, float amount) {
  write_imagef(output, (int2)(get_global_id(0), get_global_id(1)), (float4)(amount));
}
