// Warm Glow: lifts the image towards a warm, tinted highlight.
// out.rgb = mix(in.rgb, in.rgb * tint.rgb * (1, 0.9, 0.75) + 0.1 * amount, amount); alpha unchanged.
__constant sampler_t pixelSampler = CLK_NORMALIZED_COORDS_FALSE | CLK_ADDRESS_CLAMP_TO_EDGE | CLK_FILTER_NEAREST;

__kernel void warm_glow(__read_only image2d_t input, __write_only image2d_t output,
                        float time, int frame, float duration,
                        float amount, float4 tint)
{
    const int2 position = (int2)(get_global_id(0), get_global_id(1));
    const float4 pixel = read_imagef(input, pixelSampler, position);
    const float3 warm = pixel.xyz * tint.xyz * (float3)(1.0f, 0.9f, 0.75f) + 0.1f * amount;
    const float3 result = clamp(mix(pixel.xyz, warm, amount), 0.0f, 1.0f);
    write_imagef(output, position, (float4)(result, pixel.w));
}
