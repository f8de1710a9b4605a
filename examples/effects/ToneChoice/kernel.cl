// Tone Choice: one of three tone maps, then posterised to a number of levels.
// luma = dot(rgb, (0.299, 0.587, 0.114))
// tone 0 (Sepia): luma * (1.07, 0.74, 0.43); 1 (Monochrome): luma; 2 (Invert): 1 - rgb
// posterised: floor(c * (levels - 1) + 0.5) / (levels - 1), levels at least 2; alpha unchanged.
__constant sampler_t pixelSampler = CLK_NORMALIZED_COORDS_FALSE | CLK_ADDRESS_CLAMP_TO_EDGE | CLK_FILTER_NEAREST;

__kernel void tone_choice(__read_only image2d_t input, __write_only image2d_t output,
                          float time, int frame, float duration,
                          uint tone, float levels)
{
    const int2 position = (int2)(get_global_id(0), get_global_id(1));
    const float4 pixel = read_imagef(input, pixelSampler, position);
    const float luma = dot(pixel.xyz, (float3)(0.299f, 0.587f, 0.114f));
    float3 toned;
    if (tone == 0) {
        toned = luma * (float3)(1.07f, 0.74f, 0.43f);
    } else if (tone == 1) {
        toned = (float3)(luma);
    } else {
        toned = 1.0f - pixel.xyz;
    }
    const float steps = fmax(levels, 2.0f) - 1.0f;
    const float3 result = floor(clamp(toned, 0.0f, 1.0f) * steps + 0.5f) / steps;
    write_imagef(output, position, (float4)(result, pixel.w));
}
